// What the iCalendar reader and writer share.
#include "ics/ics_support.h"

void MakeIcalErrorsNonFatal()
{
    icalerror_set_errors_are_fatal(0);
    icalerror_clear_errno();
}
