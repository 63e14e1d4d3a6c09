// The transfer program: downloads panel databases, protocol drivers and
// system software into Quellstor panels and uploads databases from them.

#include "qstrans/quellstor_trans_app.h"

int main()
{
    CQuellstorTransApp app;
    return app.Run();
}
