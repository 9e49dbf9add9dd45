unit u;
{$I defs.inc}
{$I+}
{$I-}
interface
implementation
{$INCLUDE 'sub/more.inc'}
{$IFDEF FAST}
procedure Fast;
begin
  FromInclude;
end;
{$ENDIF}
{$I missing.inc}
end.
