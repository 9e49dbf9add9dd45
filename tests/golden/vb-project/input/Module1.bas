Attribute VB_Name = "Module1"
' 共通モジュール: 宣言と手続き
Option Explicit
Public Const MAX_N = 100
Public Const APP_NAME As String = "demo"
Private Type POINTL
    x As Long
    y As Long
End Type
Public 件数 As Integer
Dim grid(MAX_N) As Integer, total As Long
Declare Function GetTickCount Lib "kernel32" () As Long

' 起動する
Public Sub Main()
    Dim p As POINTL
    Initialize
    Call Report(件数)
    ShowTotal 1, _
        2
    With Form1
        .Caption = APP_NAME
        .Show
    End With
End Sub

Public Function 合計(ByVal a As Integer, ByVal b As Integer) As Integer
    合計 = a + b
    If a > 0 Then Exit Function
End Function

Public Sub Initialize()
    件数 = 合計(1, 2)
    total = GetTickCount()
End Sub

Sub ShowTotal(a, b)
    Debug.Print a: Report a
End Sub

Sub Report(n As Integer)
End Sub
