#include "services/SoftwareUpdateLink.h"

#include "services/ProductServiceURL.h"

QUrl SoftwareUpdateLink::fallbackFeed()
{
    return ProductServiceURL::endpoint(feedPath());
}
