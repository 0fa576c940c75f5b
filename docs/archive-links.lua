-- The guide is written in docs/ and links to the project's files as "../examples/...";
-- in the release it sits at the top of the archive, beside those files.
function Link(link)
  link.target = link.target:gsub("^%.%./", "")
  return link
end
