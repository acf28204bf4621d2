#include "app/launch/RunningApp.h"
#include "automation/ScriptedRun.h"

int main(int argc, char** argv) { return terrabo::runTerrabo(argc, argv, terrabo::runScripted); }
