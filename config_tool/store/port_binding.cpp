#include "port_binding.h"

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
