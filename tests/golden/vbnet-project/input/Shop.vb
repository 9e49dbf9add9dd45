Public Class Shop
    Private ReadOnly name As String

    Public Sub New(ByVal name As String)
        Me.name = name
        Reset()
    End Sub

    Public Sub Open()
        Reset()
        Prices.Sum(1, 1)
    End Sub

    Private Sub Reset()
    End Sub
End Class

Public Class Prices
    Public Shared Function Sum(ByVal a As Integer, ByVal b As Integer) As Integer
        Return a + b
    End Function
End Class
