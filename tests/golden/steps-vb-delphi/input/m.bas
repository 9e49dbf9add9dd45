' モジュール
Dim a As Integer
Rem 説明
a = "文字列 ' まだ文字列"

