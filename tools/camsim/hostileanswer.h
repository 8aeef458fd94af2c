#pragma once

#include <QStringList>

namespace Camsim {

struct Request;
struct Response;

// Answers a broken or malicious service could give, made from the answer the
// simulator would give otherwise. Only whole answers are touched (JSON,
// pictures), never video streams.
//
// Modes that replace the answer:
//   invalidJson       the answer with its last byte cut off
//   emptyBody         200 and nothing
//   deepNesting       100,000 levels of "[" (and their "]")
//   hugeBody          the answer followed by 20 MB of blanks (still valid JSON)
//   redirectLoop      302 to the very address asked for, every time
//   closeAfterHeaders headers that promise the answer's length, then the connection closes
// Modes that alter what a JSON answer holds (below the envelope of a service
// answer; the outermost value keeps its type):
//   wrongTypes        numbers and booleans become strings, strings numbers,
//                     arrays objects and objects arrays
//   missingKeys       every object below the outermost keeps only its first key
//   hugeNumbers       numbers become 2^31, 9.3e18 and 1e300 in turn
//   negativeNumbers   numbers become -1, -2^31-1 and -1e300 in turn
//   repeatedIds       every array holds each element twice, and every object
//                     member holding an object with an "id" gets a copy beside it
//   longNames         every string under "name" is 100,000 characters long
class HostileAnswer
{
public:
    static const QStringList& modes();
    // Turns response, the answer to request, into the mode's; an unknown mode
    // or an answer the mode does not apply to is left as it is.
    static void apply(const QString& mode, const Request& request, Response& response);
};

} // namespace Camsim
