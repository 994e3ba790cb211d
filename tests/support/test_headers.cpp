// Compiled only to parse, once, the headers every test program of the engine begins with.
