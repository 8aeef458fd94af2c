// deployment.ini: where the service lives. Whatever the file holds, each of the
// three hosts is a base URL the transport can use.
#include "fuzzsupport.h"

#include "core/deployment.h"

#include <QFile>

using namespace OrvantaClient::App;

namespace {

void checkBase(const QUrl& url)
{
    FUZZ_CHECK(url.isValid());
    FUZZ_CHECK(url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
    FUZZ_CHECK(!url.host().isEmpty() && url.path().isEmpty() && !url.hasQuery() && !url.hasFragment());
    FUZZ_CHECK(url.userInfo().isEmpty());
    const int port = Deployment::portOf(url);
    FUZZ_CHECK(port > 0 && port <= 65535);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::setUp();
    QFile file(QStringLiteral("deployment.ini"));
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(Fuzz::bytes(data, size)) == qint64(size));
    file.close();
    const Deployment deployment(file.fileName());
    checkBase(deployment.api());
    checkBase(deployment.streaming());
    checkBase(deployment.web());
    return 0;
}
