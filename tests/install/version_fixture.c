/* A program that exists only to carry a chosen version record (see version_fixture.rc.in, and the
   setup tests' versioned_fixture.rc.in). With the argument "wait" it keeps running for a minute,
   standing in for a running program. */
#include <windows.h>
#include <string.h>

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "wait") == 0) Sleep(60000);
    return 0;
}
