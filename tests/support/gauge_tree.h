// A gauge file's tree as the XML reader gives it, written compactly in a test: each element
// stands on its own line, its text and attribute values starting at column 1 of it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/gauge_host/script/calculator.h"
#include "tools/gauge_host/xml/xml_tree.h"

struct Node {
  std::string name;
  int line = 1;
  std::vector<std::pair<std::string, std::string>> attributes = {};
  std::string text = "";
  std::vector<Node> children = {};
};

inline gauge_host::XmlText TextOn(int line, const std::string& text) {
  const gauge_host::ScriptText placed = gauge_host::TextAt(text, {line, 1});
  return {placed.text, placed.positions, {line, 1}};
}

inline gauge_host::XmlElement Tree(const Node& node) {
  gauge_host::XmlElement element;
  element.name = node.name;
  element.position = {node.line, 1};
  for (const auto& [name, value] : node.attributes) {
    element.attributes.push_back({name, {node.line, 1}, TextOn(node.line, value)});
  }
  if (!node.text.empty()) {
    element.texts.push_back(TextOn(node.line, node.text));
  }
  for (const Node& child : node.children) {
    element.children.push_back(Tree(child));
  }
  return element;
}
