s := 'it''s'; { note } end;
x := #13#10 + #$0D + $FF + 1.5E-3 + 1..10;
'unterminated
(*) (**) (* a *
) *)
// line \ {x}
{ open