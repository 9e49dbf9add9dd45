VERSION 5.00
Begin VB.Form Form1
   Caption         =   "Form1"
   ClientHeight    =   3195
   Begin VB.CommandButton Command1
      Caption         =   "Run"
      Height          =   495
   End
End
Attribute VB_Name = "Form1"
Attribute VB_GlobalNameSpace = False
Attribute VB_Exposed = False
Option Explicit
Private mCount As Long

Private Sub Command1_Click()
    mCount = mCount + 1
    Initialize
    Report mCount
End Sub

Public Property Get Count() As Long
    Count = mCount
End Property

Public Property Let Count(ByVal value As Long)
    mCount = value
    Refresh
End Property

Private Sub Form_Load()
    Command1_Click
End Sub
