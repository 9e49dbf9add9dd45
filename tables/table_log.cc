#include "tables/table_log.h"

#include "context/source_context.h"

std::string positionPrefix(const SourceContext* context) {
  std::string text = "    ";
  if (context) text += context->item(0);
  text += ' ';
  text += std::to_string(context ? context->currentLine() : 0);
  return text;
}
