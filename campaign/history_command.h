#pragma once
// quillon-campaign history DB: the campaigns recorded, one item's story, or
// pruning a stream to its last campaigns.

#include <QStringList>

#include <cstdio>

// arguments as parse_options takes them, "history" included after the
// program name. Returns the exit status.
int run_history_command(const QStringList& arguments, FILE* out, FILE* err);
