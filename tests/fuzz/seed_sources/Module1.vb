Imports System.Text
Namespace Demo
    Public Class Greeter
        Inherits Base
        Public Sub New()
            MyBase.New()
        End Sub
        Public Function Greet(ByVal name As String) As String
            Dim sb As New StringBuilder()
            sb.Append("Hello ").Append(name)
            Return sb.ToString()
        End Function
    End Class
    Module Main
        Sub Main()
            Dim g As New Greeter()
            Console.WriteLine(g.Greet("x"))
        End Sub
    End Module
End Namespace
