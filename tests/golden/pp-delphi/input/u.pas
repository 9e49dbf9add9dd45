unit u;
{$DEFINE FAST}
interface
{$IFDEF FAST}
const Speed = 2;
{$ELSE}
const Speed = 1;
// slow path
{$ENDIF}
{$IFNDEF FAST}
procedure Slow;
{$ENDIF}
{$R *.res}
implementation
end.
