unit UnitB;
interface
procedure Helper;
procedure Inc(var I: Integer);
implementation
procedure Helper;
begin
end;
procedure Inc(var I: Integer);
begin
end;
end.
