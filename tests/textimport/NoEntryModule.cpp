// A module under the text loader's name that offers no GetInstance.
extern "C" __attribute__((visibility("default"))) int NotTheEntryPoint() {
    return 0;
}
