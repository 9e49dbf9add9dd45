VERSION 5.00
Begin VB.Form Form1
   Caption         =   "Form1"
End
Attribute VB_Name = "Form1"
Option Explicit

Private Sub Form_Load()
    Dim s As New CStack
    s.Push 1
    If s.Count > 0 Then Helper
    Me.ShowCount s
    Tools.Log "loaded"
End Sub

Private Sub ShowCount(ByVal st As CStack)
    Debug.Print st.Count
End Sub
