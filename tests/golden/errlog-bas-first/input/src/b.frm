VERSION 5.00
Begin VB.Form Form1
End
