unit UnitB;

interface

implementation

{$IFDEF MSWINDOWS}
procedure WindowsB;
begin
end;
{$ELSE}
procedure OtherB;
begin
end;
{$ENDIF}

end.
