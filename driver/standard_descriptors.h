#pragma once
// Standard input, output and error as the run expects to find them.

// Opens /dev/null onto each of the descriptors 0, 1 and 2 that is closed.
// Called first thing: a file opened while standard output is closed gets
// descriptor 1, and the -v echo (or a message) would land inside it.
void open_closed_standard_descriptors();
