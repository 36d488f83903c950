#include "driver/driver.h"

int main(int argc, char** argv) { return tarvex::RunCommand(argc, argv); }
