unit UnitA;
interface
procedure Helper;
procedure RunA;
implementation
procedure Helper;
begin
end;
procedure RunA;
begin
  Helper;
  Inc(X);
end;
end.
