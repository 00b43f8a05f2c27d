#include "Tips.h"

namespace qel {

Text TipText(int tipNumber)
{
    switch (tipNumber) {
    case 1:
        return U"Programmet er laget av Qelvang";
    case 2:
        return U"Trykk F5 ved panikk";
    case 3:
        return U"Prøv PizzaTimeren på LAN!!";
    case 4:
        return U"Sjekk ud " + HomePage;
    case 5:
        return U"Trykk F5 ved panikk!";
    case 6:
        return U"Bruk Ctrl-K og Ctrl-D til Crypt/Dekrypt";
    case 7:
        return U"Vignere er den sterkeste protokollen";
    default:
        return U"ToolTip error";
    }
}

void ShowTip(StatusPanels& statusBar, RandomSource& random)
{
    // The program's generator was seeded from the clock once; reseeding it here from a clock that
    // moves in coarse steps would only repeat the same tip for loads close together.
    statusBar.add();
    const int tipNumber = static_cast<int>(random.nextUnit() * 7) + 1;
    statusBar.setText(statusBar.count(), TipText(tipNumber));
    statusBar.sizeToContents(2);
}

} // namespace qel
