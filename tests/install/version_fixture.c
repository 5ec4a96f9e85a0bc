/* A program that exists only to carry a chosen version record (see version_fixture.rc.in). */
int main(void) { return 0; }
