begin
  Begin BEGIN begins end1 _begin x_end
  asm nop end; ASM x END; Asm
