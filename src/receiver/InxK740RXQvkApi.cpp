#include "receiver/InxK740RXQvkApi.h"

InxK740RXQvkApi::InxK740RXQvkApi(const char* fileName) : CnxInterfaceDll(fileName) {
    if (!IsLoaded()) {
        return;
    }
#define K740RX_RESOLVE(name, ret, params) \
    functions_.name = reinterpret_cast<ret(*) params>(GetFunction(#name, nullptr));
    K740RX_DRIVER_FUNCTIONS(K740RX_RESOLVE)
#undef K740RX_RESOLVE
}
