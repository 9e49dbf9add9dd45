program Main;
uses UnitB, UnitA;
begin
  Helper;
  RunA;
end.
