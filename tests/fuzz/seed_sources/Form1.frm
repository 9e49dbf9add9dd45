VERSION 5.00
Begin VB.Form Form1
   Caption         =   "Form1"
   Begin VB.CommandButton Command1
      Caption         =   "OK"
   End
End
Attribute VB_Name = "Form1"
Option Explicit
Private Declare Function GetTickCount Lib "kernel32" () As Long
Private Sub Command1_Click()
    Dim s As String: s = "a ""b"" c" ' comment
    #If DEBUG Then
    Call Helper(1, _
        2)
    #Else
    Helper 3, 4
    #End If
End Sub
Public Property Get Size() As Integer
    Size = 10
End Property
Private Function Helper(a As Integer, b As Integer) As Integer
    Helper = a + b: Rem old comment
End Function
