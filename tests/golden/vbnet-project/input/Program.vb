Module Program
    Sub Main()
        Dim shop As New Shop("corner")
        shop.Open()
        Dim total As Integer = Prices.Sum(2, 3)
        Report(total)
        Dim l As ILogger = New ConsoleLogger()
        l.Write("done")
    End Sub

    Sub Report(ByVal n As Integer)
        Console.WriteLine(n)
    End Sub
End Module
