program Tour;

uses
  Shapes;

procedure Greet(Times: Integer);
begin
  WriteLn('Hello');
end;

begin
  Greet(1);
  Report;
end.
