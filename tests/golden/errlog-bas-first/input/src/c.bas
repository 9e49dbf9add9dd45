Attribute VB_Name = "c"
Public Sub Helper()
End Sub
