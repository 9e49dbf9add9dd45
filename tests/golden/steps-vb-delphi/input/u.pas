unit u;
{ 説明 }
(* 複数行の
   コメント *)
// 行コメント
{$R+}
interface
