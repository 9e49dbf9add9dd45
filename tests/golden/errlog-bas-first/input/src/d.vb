Module M
End Module
