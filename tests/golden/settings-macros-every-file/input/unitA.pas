unit UnitA;

interface

implementation

{$IFDEF MSWINDOWS}
procedure WindowsA;
begin
end;
{$ELSE}
procedure OtherA;
begin
end;
{$ENDIF}

end.
