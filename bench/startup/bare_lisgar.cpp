// The floor of lisgar's start-up: its window's form (server/TForm1.ui), without the listening
// socket and the log's first entry.
#include "bench/startup/bare_form.h"
#include "ui_TForm1.h"

int main(int argc, char** argv) { return bench::showBareForm<lisgar::Ui::TForm1>(argc, argv); }
