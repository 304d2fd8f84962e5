asm (a)/b\c} {end} (* end *) // end
end