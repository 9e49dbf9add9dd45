Attribute VB_Name = "a"
Sub Main()
End Sub
