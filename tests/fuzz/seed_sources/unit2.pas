unit Unit2;

interface

uses SysUtils, Classes;

type
  TShape = class(TObject)
  private
    FWidth: Integer;
  public
    constructor Create(AWidth: Integer);
    function Area: Integer; virtual;
    property Width: Integer read FWidth write FWidth;
  end;

implementation

{$I unit2.inc}
{$IFDEF DEBUG} (* debug only *) {$ENDIF}

constructor TShape.Create(AWidth: Integer);
begin
  inherited Create;
  FWidth := AWidth; // line comment
end;

function TShape.Area: Integer;
var s: string;
begin
  s := 'it''s';
  Result := FWidth * FWidth;
end;

end.
