Attribute VB_Name = "Module1"
#If 0 Then
Dim oldValue As Integer
' old comment
#Else
Dim newValue As Integer
#End If
#If DEBUG Then
Dim debugValue As Integer
#End If

Sub Main()
    newValue = 1
End Sub
