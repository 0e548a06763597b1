// The floor of lisgar's start-up: its window's form (server/TForm1.ui), without the listening
// socket and the log's first entry.
#include "ui_TForm1.h"

#include "bench/startup/bare_form.h"

int main(int argc, char** argv) { return bench::showBareForm<lisgar::Ui::TForm1>(argc, argv); }
