#include "port_binding.h"

#include <cstdio>

std::string AssignedPortOf(const PortBindings& bindings, uint32_t ip)
{
    for (const PortBinding& binding : bindings) {
        if (binding.ip == ip)
            return binding.port;
    }
    return kNotAssigned;
}

bool IsBindablePortName(const std::string& name)
{
    if (name.size() < 4 || name.size() > 6 || name.compare(0, 3, "COM") != 0 || name[3] == '0')
        return false;
    unsigned number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        number = number * 10 + static_cast<unsigned>(name[i] - '0');
    }
    return number >= 1 && number <= 256;
}

std::string BindingFailureText(const BindingOutcome& o)
{
    const char* port = o.port.c_str();
    const char* previous = o.previousPort.c_str();
    const bool hadPrevious = !o.previousPort.empty();
    char text[400];
    if (o.writeError == 0) {
        if (o.removeError == 0 || o.previousPort == o.port)
            return std::string();
        std::snprintf(text, sizeof text,
                      "Error : Fail to remove the binding of %s (registry error %ld).\r\n"
                      "%s is assigned to this printer, and %s stays bound to it as well.",
                      previous, o.removeError, port, previous);
    } else if (o.previousPort == o.port) {
        // Written over the port's own binding, which a refused write leaves as it was.
        if (o.restoreError == 0)
            std::snprintf(text, sizeof text,
                          "Error : Fail to assign %s to this printer (registry error %ld).\r\n"
                          "Its binding to %s stays as it was.",
                          port, o.writeError, port);
        else
            std::snprintf(text, sizeof text,
                          "Error : Fail to assign %s to this printer (registry error %ld).\r\n"
                          "Its earlier binding to %s could not be put back either (registry error %ld).",
                          port, o.writeError, port, o.restoreError);
    } else if (!hadPrevious) {
        std::snprintf(text, sizeof text, "Error : Fail to assign %s to this printer (registry error %ld).", port,
                      o.writeError);
    } else if (o.removeError == 0) {
        std::snprintf(text, sizeof text,
                      "Error : Fail to assign %s to this printer (registry error %ld).\r\n"
                      "Its binding to %s was removed: the printer is bound to no port now.",
                      port, o.writeError, previous);
    } else {
        std::snprintf(text, sizeof text,
                      "Error : Fail to assign %s to this printer (registry error %ld).\r\n"
                      "Its binding to %s could not be removed either (registry error %ld): it stays bound to %s.",
                      port, o.writeError, previous, o.removeError, previous);
    }
    return text;
}
