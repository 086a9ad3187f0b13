#include "agent/AgentControl.h"

namespace perch {

// Out of line, so that the interfaces' tables of virtual functions and
// TAgent's meta-object code live in this library alone.
TAgentCharacter::~TAgentCharacter() = default;

TAgent::TAgent(QObject* parent) : QObject(parent) {}
TAgent::~TAgent() = default;

}  // namespace perch
