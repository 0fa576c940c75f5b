-- The guide as the release holds it. It is written in docs/ and links to the project's
-- files as "../examples/..."; in the release it sits at the top of the archive, beside
-- those files. Its HTML comments mark where its snippets and shown output come from,
-- for the checks, not for the reader, and "--" inside one is not well-formed.
function Link(link)
  link.target = link.target:gsub("^%.%./", "")
  return link
end

function RawBlock(block)
  if block.format == "html" and block.text:match("^<!%-%-.*%-%->%s*$") then
    return {}
  end
end
