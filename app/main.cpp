#include "app/launch/RunningApp.h"

int main(int argc, char** argv) { return terrabo::runTerrabo(argc, argv); }
