#include "socket_layer.h"

namespace {
SocketLayer* installed = nullptr;
}

SocketLayer& ActiveSocketLayer() { return installed ? *installed : PlatformSocketLayer(); }

void SetSocketLayer(SocketLayer* layer) { installed = layer; }
