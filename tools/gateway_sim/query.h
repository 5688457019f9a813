#pragma once
#include <string>
#include <utility>
#include <vector>

using QueryParameters = std::vector<std::pair<std::string, std::string>>;

// The name=value pairs of a request target's query in their order,
// percent-decoded the way a CGI gateway decodes them ("+" is a blank).
QueryParameters ParseQuery(const std::string& target);

// The first value of a parameter, empty when it is absent.
std::string ParameterValue(const QueryParameters& parameters, const std::string& name);
