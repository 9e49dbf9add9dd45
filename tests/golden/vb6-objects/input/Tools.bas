Attribute VB_Name = "Tools"
Option Explicit
#Const DEBUGGING = 1

Public Sub Log(ByVal t As String)
    Inner
End Sub

Public Sub Helper()
#If DEBUGGING Then
    Log "debug"
#Else
    Inner
#End If
End Sub

Private Sub Inner()
End Sub
