{ Sample unit shipped with Lumivane 98: one of every token class. }
unit Sample;

interface

type
  TShape = class
  private
    FWidth, FHeight: Integer;
  public
    constructor Create(AWidth, AHeight: Integer);
    function Area: Integer; virtual;
    property Width: Integer read FWidth;
  end;

function Checksum(const Data: array of Byte): LongWord;

implementation

(* A block comment
   over two lines. *)

constructor TShape.Create(AWidth, AHeight: Integer);
begin
  inherited Create;
  FWidth := AWidth;   // line comment
  FHeight := AHeight;
end;

function TShape.Area: Integer;
begin
  Result := FWidth * FHeight;
end;

function Checksum(const Data: array of Byte): LongWord;
var
  I: Integer;
begin
  Result := $FFFFFFFF;
  for I := Low(Data) to High(Data) do
    Result := (Result shr 8) xor Data[I];
end;

procedure Swap16(var W: Word); assembler;
asm
  MOV  AX, [EAX]
  XCHG AL, AH        { swap the two bytes }
  MOV  [EDX], AX
@@End:
end;

const
  Greeting = 'Hello, {world}! It''s 100% \Pascal\.';
  Ratio = 3.1415E+0;
  Tab = #9;

end.
