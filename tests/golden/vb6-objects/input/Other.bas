Attribute VB_Name = "Other"
Option Explicit

Public Sub Run()
    Inner
    GoTo Done
Done:
End Sub

Private Sub Inner()
End Sub
