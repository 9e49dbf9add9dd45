Public Interface ILogger
    Sub Write(ByVal text As String)
End Interface

Public Class ConsoleLogger
    Implements ILogger

    Public Sub Write(ByVal text As String) Implements ILogger.Write
        Console.WriteLine(text)
    End Sub
End Class
