namespace common {}
