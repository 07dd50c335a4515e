/* A C program that uses the installed library, as a customer would. */
#include <qorlib145.h>
#include <stdio.h>
#include <string.h>

int main(void) {
    qor_text *name = WindowsVersion();
    if (!name || name->length == 0 || name->data[name->length] != '\0') return 1;
    qor_text_free(name);
    if (LibVersion() < QORLIB145_VERSION_NUMBER) return 2;
    printf("qorlib145 %d\n", LibVersion());
    return 0;
}
