// The floor of pandrel's start-up: its window's form (client/TForm1.ui), data-aware controls and
// all, without the fonts, table, connection and pictures the program sets up in code.
#include "bench/startup/bare_form.h"
#include "ui_TForm1.h"

int main(int argc, char** argv) { return bench::showBareForm<pandrel::Ui::TForm1>(argc, argv); }
