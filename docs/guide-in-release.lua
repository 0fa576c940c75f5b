-- The guide as the release holds it. It is written in docs/ and links to the project's
-- files as "../examples/..."; in the release it sits at the top of the archive, beside
-- those files. Its HTML comments mark where its snippets and shown output come from,
-- for the checks, not for the reader, and "--" inside one is not well-formed. A picture
-- alone in its paragraph is set in a "picture" block, which the stylesheet shows at the
-- picture's own size.
function Link(link)
  link.target = link.target:gsub("^%.%./", "")
  return link
end

function RawBlock(block)
  if block.format == "html" and block.text:match("^<!%-%-.*%-%->%s*$") then
    return {}
  end
end

function Para(para)
  if #para.content == 1 and para.content[1].t == "Image" then
    return pandoc.Div({para}, {class = "picture"})
  end
end
