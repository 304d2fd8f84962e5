unit U;
interface
procedure P; assembler;
implementation
procedure P; asm
  mov eax, [ebx+4] { load }
  @@end: dec ecx // next
  (* star *) jmp @@end
end;
end.
