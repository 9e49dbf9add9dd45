unit Shapes;

interface

type
  TPoint = record
    X, Y: Integer;
    case Kind: Integer of
      0: (Color: Integer);
      1: (Gray: Byte);
  end;

  TShape = class
  public
    constructor Create;
    procedure Paint; virtual;
  end;

  TSquare = class(TShape)
  private
    FSide: Integer;
  public
    constructor Create;
    procedure Paint; override;
    function Area: Integer;
  end;

var
  Pen: TShape;
  Brush: TSquare;

procedure Report;

implementation

procedure Log(Code: Integer); forward;

constructor TShape.Create;
begin
  Log(1);
end;

procedure TShape.Paint;
begin
  Log(2);
end;

constructor TSquare.Create;
begin
  inherited Create;
  FSide := 2;
end;

procedure TSquare.Paint;

  procedure Edge;
  begin
    Log(3);
  end;

begin
  inherited;
  Edge;
end;

function TSquare.Area: Integer;
begin
  Area := FSide * FSide;
end;

procedure Report;
begin
  with Pen, Brush do
  begin
    Paint;
  end;
  Flush;
end;

procedure Flush;
asm
  nop
end;

procedure Log(Code: Integer);
begin
end;

end.
