/* Stands in for the property-system library in tests of the module mapping: two exports
   that tell which library answered. */
int FakeSystemModuleAnswer(void) {
    return 42;
}

int FakeSystemModuleOther(void) {
    return 7;
}
