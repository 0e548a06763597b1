// The floor of korvel's start-up: its start window's form (editor/TForm3.ui), the window it shows
// first.
#include "bench/startup/bare_form.h"
#include "ui_TForm3.h"

int main(int argc, char** argv) { return bench::showBareForm<korvel::Ui::TForm3>(argc, argv); }
