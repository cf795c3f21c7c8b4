"""A package whose name holds an e acute."""
